/* Vector mathematics: per-thread mode word, error status, error callback and the
 * service calls that read and change them. */
#ifndef ZORN_TESS_H
#define ZORN_TESS_H

#include <stdint.h>

#include "zorn/export.h"
#include "zorn/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- the mode word ---- */
#define TESS_MODE_ACCURACY_MASK 0x0000000Fu
#define TESS_MODE_LA 0x1u /* low accuracy */
#define TESS_MODE_HA 0x2u /* high accuracy */
#define TESS_MODE_EP 0x3u /* enhanced performance */
#define TESS_MODE_CONSISTENCY_MASK 0x000000F0u
#define TESS_MODE_ERRMODE_MASK 0x0000FF00u
#define TESS_ERRMODE_IGNORE 0x100u
#define TESS_ERRMODE_ERRNO 0x200u
#define TESS_ERRMODE_STDERR 0x400u
#define TESS_ERRMODE_EXCEPT 0x800u
#define TESS_ERRMODE_CALLBACK 0x1000u
#define TESS_ERRMODE_NOERR 0x2000u
#define TESS_ERRMODE_DEFAULT 0x1A00u
#define TESS_MODE_RESERVED_MASK 0x00030000u
#define TESS_MODE_DENORMAL_MASK 0x003C0000u
#define TESS_MODE_FLUSH_DENORMALS 0x00280000u /* flush-to-zero and denormals-are-zero */
#define TESS_MODE_TRAPS_MASK 0x0F000000u
#define TESS_TRAP_INVALID 0x1000000u
#define TESS_TRAP_DIVBYZERO 0x2000000u
#define TESS_TRAP_OVERFLOW 0x4000000u
#define TESS_TRAP_UNDERFLOW 0x8000000u
#define TESS_MODE_INITIAL 0x1A02u

/* ---- element error statuses: TESS_STATUS_* in zorn/status.h ---- */

/* The record an error callback receives for one exceptional element. Single
 * precision values are widened to double; the imaginary fields are filled for complex
 * functions only. The callback may change res1 and res2. */
typedef struct TessErrorContext {
  int32_t status;
  int32_t index;        /* in the caller's whole vector */
  double arg1;          /* real part for complex functions */
  double arg2;          /* equals arg1 for one-argument functions */
  double res1;
  double res2;          /* equals res1 for one-result functions */
  char func_name[64];   /* NUL-terminated, at most 47 characters */
  int32_t func_name_len;
  double arg1_im;
  double arg2_im;
  double res1_im;
  double res2_im;
} TessErrorContext;

typedef int32_t (*TessErrorCallBack)(struct TessErrorContext* context);

/* Each service acts on the calling thread only; both names of a pair are one function. */
ZORN_API uint32_t _tessSetMode(uint32_t mode);        /* returns the old mode */
ZORN_API uint32_t zorn_tess_kernel_SetMode(uint32_t mode);
ZORN_API uint32_t _tessGetMode(void);
ZORN_API uint32_t zorn_tess_kernel_GetMode(void);
ZORN_API int32_t zorn_tess_kernel_GetTTableIndex(void); /* accuracy - 1 */
ZORN_API int32_t zorn_tess_kernel_GetTTableIndexM(uint64_t unused, uint32_t mode);
ZORN_API int32_t _tessSetErrStatus(int32_t status); /* returns the old status */
ZORN_API int32_t zorn_tess_kernel_SetErrStatus(int32_t status);
ZORN_API int32_t _tessGetErrStatus(void);
ZORN_API int32_t zorn_tess_kernel_GetErrStatus(void);
ZORN_API int32_t _tessClearErrStatus(void);
ZORN_API int32_t zorn_tess_kernel_ClearErrStatus(void);
ZORN_API TessErrorCallBack _tessSetErrorCallBack(TessErrorCallBack callback);
ZORN_API TessErrorCallBack zorn_tess_kernel_SetErrorCallBack(TessErrorCallBack callback);
ZORN_API TessErrorCallBack _tessGetErrorCallBack(void);
ZORN_API TessErrorCallBack zorn_tess_kernel_GetErrorCallBack(void);
ZORN_API TessErrorCallBack _tessClearErrorCallBack(void);
ZORN_API TessErrorCallBack zorn_tess_kernel_ClearErrorCallBack(void);
ZORN_API const void* _tessSetInterfInputVectorPointer(const void* whole_vector);
ZORN_API const void* zorn_tess_kernel_SetInterfInputVectorPointer(const void* whole_vector);
ZORN_API int32_t dll_cpu_version(void); /* always 1 */

#ifdef __cplusplus
}
#endif
#endif
