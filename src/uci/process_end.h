#pragma once

// Every way the engine ends itself ("quit", a fatal hash-table failure) goes
// through here. The fuzzing build supplies its own definition, which returns
// to the harness instead of ending the process.
[[noreturn]] void end_process(int status);
