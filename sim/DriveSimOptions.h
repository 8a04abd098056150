#pragma once
// The drive-sim program's command line.

#include <span>
#include <string>
#include <string_view>

#include "sim/DriveSim.h"
#include "sim/FailureMode.h"
#include "sim/PtyDrive.h"

struct DriveSimOptions {
    PtyDriveOptions pty;
    DriveSim::Config drive;
    Failure failure;
    int alarm = 0;              // an alarm raised at start (it goes into the history)
    std::string downloadImage;  // where a downloaded program's memory image is written
    bool help = false;
    bool version = false;  // print the program's own version
};

// Reads the arguments after the program name ("--baud 9600" or "--baud=9600").
// Throws std::invalid_argument with a message naming the offending option.
DriveSimOptions ParseDriveSimOptions(std::span<const std::string_view> args);

std::string DriveSimUsage();
