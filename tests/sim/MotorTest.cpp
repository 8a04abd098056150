#include <gtest/gtest.h>

#include <cmath>

#include "protocol/Frame.h"
#include "sim/DriveSim.h"
#include "sim/Motor.h"

namespace {

TEST(Motor, SpeedFollowsItsCommandThroughTheLag) {
    Motor motor;
    motor.SetSpeedCommand(1000);
    EXPECT_NEAR(motor.StateAt(0.05).speedFeedback, 1000 * (1 - std::exp(-1.0)), 1e-6);
    MotorState settled = motor.StateAt(1.0);
    EXPECT_NEAR(settled.speedFeedback, 1000, 0.01);
    EXPECT_NEAR(settled.pulseFrequencyKpps, 1000 / 60.0 * 10, 1e-9);
}

// Samplers step the model at their own period: the curve must not depend on it.
TEST(Motor, StepSizeDoesNotChangeTheCurve) {
    Motor coarse, fine;
    coarse.SetSpeedCommand(-1500);
    fine.SetSpeedCommand(-1500);
    for (int ms = 1; ms <= 700; ++ms) fine.AdvanceTo(ms / 1000.0);
    MotorState a = coarse.StateAt(0.7), b = fine.State();
    EXPECT_NEAR(a.speedFeedback, b.speedFeedback, 1e-6);
    EXPECT_NEAR(a.positionFeedback, b.positionFeedback, 1e-6);
    EXPECT_NEAR(a.positionCommand, -1500 / 60.0 * 0.7 * Motor::kPulsesPerRevolution, 1e-6);
    EXPECT_NEAR(a.positionError, -1500 / 60.0 * 0.05 * Motor::kPulsesPerRevolution, 1);  // the lag
}

TEST(Motor, TorqueFollowsAccelerationFrictionAndOffsets) {
    Motor motor;
    motor.SetSpeedCommand(1000);
    EXPECT_GT(motor.StateAt(0.01).torqueCommand, 100);         // accelerating hard
    EXPECT_NEAR(motor.StateAt(2.0).torqueCommand, 2.0, 0.01);  // friction only
    motor.AddTorqueOffset(1.5);
    motor.AddSpeedOffset(-3);
    MotorState state = motor.State();
    EXPECT_NEAR(state.torqueCommand, 3.5, 0.01);
    EXPECT_NEAR(state.speedFeedback, 997, 0.01);
    motor.SetSpeedCommand(-100000);
    EXPECT_DOUBLE_EQ(motor.StateAt(2.001).torqueCommand, -300);
}

TEST(Motor, JogStopsByItselfUnlessRenewed) {
    Motor motor;
    motor.Jog('+', 500, 0.0);
    motor.Jog('+', 500, 0.4);
    EXPECT_TRUE(motor.Running());
    EXPECT_NEAR(motor.StateAt(0.8).speedFeedback, 500, 1);
    EXPECT_DOUBLE_EQ(motor.StateAt(0.91).speedCommand, 0);
    EXPECT_FALSE(motor.Running());
    motor.Jog('-', 500, 1.0);
    EXPECT_DOUBLE_EQ(motor.State().speedCommand, -500);
    motor.Jog('0', 500, 1.1);
    EXPECT_DOUBLE_EQ(motor.State().speedCommand, 0);
    EXPECT_FALSE(motor.Running());
}

TEST(Motor, TestRunGoesForwardPausesReversesAndEnds) {
    Motor motor;
    motor.StartTestRun(300, 10.0);
    const struct {
        double at, command;
    } phases[] = {{10.5, 300}, {11.2, 0}, {12.0, -300}, {12.7, 0}};
    for (const auto& phase : phases) {
        EXPECT_DOUBLE_EQ(motor.StateAt(phase.at).speedCommand, phase.command) << phase.at;
        EXPECT_TRUE(motor.Running());
    }
    motor.AdvanceTo(13.01);
    EXPECT_FALSE(motor.Running());
    EXPECT_NEAR(motor.State().positionCommand, 0, 1e-6);  // as far back as forward
}

TEST(Motor, AnglesStayWithinOneTurn) {
    Motor motor;
    motor.SetSpeedCommand(-60);  // one turn a second backwards
    MotorState state = motor.StateAt(10.3);
    EXPECT_GE(state.mechanicalAngle, 0);
    EXPECT_LT(state.mechanicalAngle, 360);
    EXPECT_GE(state.electricalAngle, 0);
    EXPECT_LT(state.electricalAngle, 360);
    EXPECT_FALSE(motor.Overspeeding());
}

TEST(DriveSimMotor, MovesOnWithTheGivenClockAndStopsOnAlarm) {
    ManualSimClock clock;
    DriveSim::Config config;
    config.clock = clock.Clock();
    DriveSim sim(config);
    sim.MotorModel().Jog('+', 1000, sim.Now());
    clock.Advance(0.3);
    sim.Feed(Frame::BuildRequest("STS", ""));
    EXPECT_DOUBLE_EQ(sim.MotorModel().Time(), 0.3);
    EXPECT_GT(sim.MotorModel().State().speedFeedback, 990);
    sim.SetAlarm(12);
    EXPECT_DOUBLE_EQ(sim.MotorModel().SpeedCommand(), 0);
}

}  // namespace
