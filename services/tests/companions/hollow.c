/* A companion without any export: loading it works, resolving does not.
   Its only code is the load and unload logging of Lifetime.c. */
#include "Record.h"
