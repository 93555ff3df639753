// A DLL that nothing of the system provides, planted where a program's search by bare
// name might find it.
#include <windows.h>

__declspec(dllexport) int plantedMarker(void) { return 42; }
