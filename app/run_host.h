// A long job off the message loop: the job runs on a worker thread and
// talks to its surroundings through a JobHost and a BatchHost that stand for
// the window's own; every call it makes on them is carried to the thread
// that started the run and made there, one at a time, while that thread
// keeps the message queue running (repaints, Cancel). The job waits for
// each call to be made, so the window sees exactly what it would see if
// the job ran on its own thread.
#pragma once

#include <functional>

#include "engine/batch.h"
#include "engine/job_host.h"

namespace vexel {

// Runs Work on a worker thread and returns once it has ended. Work gets the
// stand-ins for Log and Host; Pump lets the message queue run. A failure of
// the work, or of a call it made, is thrown on here.
void RunOnWorker(JobHost& Log,
                 BatchHost& Host,
                 const std::function<void()>& Pump,
                 const std::function<void(JobHost& Log, BatchHost& Host)>& Work);

}  // namespace vexel
