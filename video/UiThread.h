#pragma once
// Hand-over of work to the user-interface thread (tile changes, session destruction).
#include <functional>

using UiTask = std::function<void()>;

// Runs the task later on the user-interface thread (the thread of the application
// object). Without an application object the task is dropped and logged.
void PostToUi(UiTask task);
// Replaces how tasks are handed over (tests run them from their own queue); an
// empty function restores the default.
void SetUiPoster(std::function<void(UiTask)> poster);
