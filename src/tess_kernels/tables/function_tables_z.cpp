// Function tables, constant tables and entry points of the type letter z.
#define TESS_IF_s(...) 
#define TESS_IF_d(...) 
#define TESS_IF_c(...) 
#define TESS_IF_z(...) __VA_ARGS__
#include "tess_kernels/tables/define_tables.h"
