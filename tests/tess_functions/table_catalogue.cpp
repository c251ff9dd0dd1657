#include "table_catalogue.h"

namespace zorn_test {

const std::vector<TableEntry>& table_catalogue() {
  static const std::vector<TableEntry> tables = {
#define TESS_TABLE(t, Name, Func, shape, strided, constants, sharing, frame)              \
  {#t[0], #Name, #Func, Shape::shape, strided != 0, std::string(#sharing) == "SEPARATE", \
   #constants, &zorn_tess_kernel_##t##Name##_ttab, &zorn_tess_kernel_##t##Name##_ctab,  \
   {reinterpret_cast<TessKernel>(&_tess##t##Name),                                      \
    reinterpret_cast<TessKernel>(&_tess##t##Name##_HA),                                 \
    reinterpret_cast<TessKernel>(&TESS_ENTRY_NAME_LA(t, Name)),                         \
    reinterpret_cast<TessKernel>(&TESS_ENTRY_NAME_EP(t, Name))}},
#include "tess_frame/each_table.h"
  };
  return tables;
}

}  // namespace zorn_test
