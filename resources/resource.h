#pragma once
// Resource ids, shared by the resource script and the program. The resource
// compiler only has the preprocessor, hence #define.

// The program icon: the lowest icon id, so that the shell shows it as the
// file's icon.
#define IDI_VELMORA 1
