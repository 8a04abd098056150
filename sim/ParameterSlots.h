#pragma once
// The stand-in drive's parameter memory as it is at power-up: every slot the
// catalogue defines holds its default value; the other slots are not in use.

#include <map>
#include <string>
#include <string_view>

// Three digits naming one of the slots the drive has: group 0..6, number 00..18.
bool IsParameterAddress(std::string_view text);

// Address -> value for the slots in use; slots without a catalogue row are absent.
std::map<std::string, std::string> DefaultParameterSlots();
