#pragma once

namespace dim {

// The processor the calling thread runs on now; -1 where that cannot be told.
int CurrentProcessor();

// Keeps the calling thread off the given processor for the rest of its life, where the
// process may run on others. For a short piece of work started beside the main thread
// during the start (`processor` read on the main thread when the work is started): a new
// thread starts on the processor of the thread that made it, and the scheduler can leave both
// there, taking turns, for several milliseconds while another processor is idle. With one
// processor to run on, the thread stays where it is.
void KeepOffProcessor(int processor);

} // namespace dim
