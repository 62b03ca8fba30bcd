#pragma once

#include "ui/Platform.h"

#include <QString>
#include <QtGlobal>

#include <functional>

// Long work off the window's thread: an extraction or a folder copy runs on a worker thread while
// the window's thread waits in an event loop behind the platform's modal progress indicator, so the
// window repaints throughout and Cancel can be pressed.
namespace worker {

// What the work gets, to be called on the worker thread.
struct Link {
    std::function<void(qint64 done)> report; // items done so far; shown as a count
    std::function<bool()> cancelled;         // true once Cancel was pressed
};

// Runs `work` on a new thread behind a progress indicator labelled `label` and returns when it
// has finished. Reports are passed to the indicator the first time and then a few times a second;
// the worker waits for each to be shown, so a Cancel pressed at a report is seen by the next
// cancelled() call.
void runBehindProgress(Platform& platform, const QString& label,
                       const std::function<void(const Link&)>& work);
// The same behind an indicator already shown, for one indicator over several steps; its cancel
// handler is replaced.
void runBehindProgress(Platform::Progress& progress, const std::function<void(const Link&)>& work);

} // namespace worker
