// The program's start, in its fixed order, and its end: returns the process exit code.
#pragma once

int LancerBavardin(int argc, char** argv);
// True when a display (or a chosen Qt platform) is there to open windows on.
bool EcranDisponible();
