// Function tables, constant tables and entry points of the type letter c.
#define TESS_IF_s(...) 
#define TESS_IF_d(...) 
#define TESS_IF_c(...) __VA_ARGS__
#define TESS_IF_z(...) 
#include "tess_kernels/tables/define_tables.h"
