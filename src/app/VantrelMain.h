#pragma once

#include <memory>

#include "platform/base/Value.h"

class VantrelAppDelegate;

// Builds the application and launches it on the shared application object, as the phone
// does when the user opens it: a new VantrelAppDelegate becomes the application's delegate
// (the application owns it), then Application::launch runs the launch sequence (database,
// the window with the vehicle list) and the first activation.
//
// Call on the main thread once the sandbox and the host are set (Sandbox::setRoot,
// Application::setHost); call it once per process. The host then drives the lifecycle
// (resignActive, enterBackground, enterForeground, becomeActive, terminate) and the input.
std::shared_ptr<VantrelAppDelegate> launchVantrel(const platform::Dictionary& options = {});
