#pragma once

#include <string>

#include "device/libusb_backend.h"

// The rule that lets the user at the local desktop open the instrument, as packaging installs
// it under the name 60-zalvo.rules.
extern const char* const zalvoUdevRule;

// Whether 60-zalvo.rules is a file in one of the directories udev reads rules from.
bool zalvoUdevRuleInstalled();

// Lines for the operator's terminal after the connection to the instrument failed: what the
// scan of the bus found and which call failed why; when the opening was refused for lack of
// permission, also what is wrong with the udev rule and how to put it right. Empty when no
// opening failed.
std::string openProblemReport(const OpenProblem& problem, bool udevRuleInstalled);
