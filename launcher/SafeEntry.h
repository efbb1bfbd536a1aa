#pragma once
// The program's entry point, ahead of the C runtime's start-up: it narrows
// where DLLs are searched for, then hands over to the runtime (which runs the
// static constructors and calls wWinMain).

extern "C" int VelmoraEntry();

namespace launcher {

// From now on, DLLs loaded by name come from the system directory only, never
// from the program's own folder or the current directory. A program that is
// double-clicked in a download folder would otherwise load a DLL of the same
// name lying next to it whenever it, the shell or COM loads one on demand.
void RestrictDllSearch();

}  // namespace launcher
