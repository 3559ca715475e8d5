// Stand-ins for handlers of the main window that other files take over. Whoever writes one of these
// in its own file deletes the definition here in the same commit (the build fails on the duplicate).
#include "app/TF_Main.h"

// ---- window frame, printing, banner, side windows, web content
