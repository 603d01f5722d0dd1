// Export mark of the simulation's libraries (libwinsim and the stand-ins of
// the Windows system libraries).
#pragma once

#ifndef WINSIM_API
#define WINSIM_API __attribute__((visibility("default")))
#endif
