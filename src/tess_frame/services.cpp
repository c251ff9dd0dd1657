// The exported service calls on the calling thread's mode, status, callback and
// interface input vector pointer.
#include "tess_frame/mode.h"
#include "tess_frame/thread_state.h"

using zorn::current_mode;
using zorn::tess_get_thread_state;

extern "C" {

uint32_t zorn_tess_kernel_SetMode(uint32_t mode) {
  zorn::TessThreadState* state = tess_get_thread_state();
  const uint32_t old = current_mode(state);
  state->Mode = zorn::merge_mode(old, mode);
  return old;
}

uint32_t zorn_tess_kernel_GetMode(void) { return current_mode(tess_get_thread_state()); }

int32_t zorn_tess_kernel_GetTTableIndex(void) {
  return static_cast<int32_t>(zorn_tess_kernel_GetMode() & TESS_MODE_ACCURACY_MASK) - 1;
}

int32_t zorn_tess_kernel_GetTTableIndexM(uint64_t /*unused*/, uint32_t mode) {
  return static_cast<int32_t>(mode & TESS_MODE_ACCURACY_MASK) - 1;
}

int32_t zorn_tess_kernel_SetErrStatus(int32_t status) {
  zorn::TessThreadState* state = tess_get_thread_state();
  const int32_t old = state->ErrStatus;
  state->ErrStatus = status;
  return old;
}

int32_t zorn_tess_kernel_GetErrStatus(void) { return tess_get_thread_state()->ErrStatus; }

int32_t zorn_tess_kernel_ClearErrStatus(void) { return zorn_tess_kernel_SetErrStatus(0); }

TessErrorCallBack zorn_tess_kernel_SetErrorCallBack(TessErrorCallBack callback) {
  zorn::TessThreadState* state = tess_get_thread_state();
  const TessErrorCallBack old = state->ErrorCallBack;
  uint32_t mode = current_mode(state) & ~TESS_ERRMODE_CALLBACK;
  if (callback != nullptr) mode |= TESS_ERRMODE_CALLBACK;
  state->ErrorCallBack = callback;
  zorn_tess_kernel_SetMode(mode);
  return old;
}

TessErrorCallBack zorn_tess_kernel_GetErrorCallBack(void) {
  return tess_get_thread_state()->ErrorCallBack;
}

// When the error-mode field held only the callback bit, the cleared field is zero and
// the merge keeps the old field: the bit stays, harmlessly, with a null callback.
TessErrorCallBack zorn_tess_kernel_ClearErrorCallBack(void) {
  zorn::TessThreadState* state = tess_get_thread_state();
  const TessErrorCallBack old = state->ErrorCallBack;
  const uint32_t mode = current_mode(state) & ~TESS_ERRMODE_CALLBACK;
  state->ErrorCallBack = nullptr;
  zorn_tess_kernel_SetMode(mode);
  return old;
}

const void* zorn_tess_kernel_SetInterfInputVectorPointer(const void* whole_vector) {
  tess_get_thread_state()->InterfInputVectorPointer = whole_vector;
  return whole_vector;
}

int32_t dll_cpu_version(void) { return 1; }

uint32_t _tessSetMode(uint32_t) ZORN_ALIAS(zorn_tess_kernel_SetMode);
uint32_t _tessGetMode(void) ZORN_ALIAS(zorn_tess_kernel_GetMode);
int32_t _tessSetErrStatus(int32_t) ZORN_ALIAS(zorn_tess_kernel_SetErrStatus);
int32_t _tessGetErrStatus(void) ZORN_ALIAS(zorn_tess_kernel_GetErrStatus);
int32_t _tessClearErrStatus(void) ZORN_ALIAS(zorn_tess_kernel_ClearErrStatus);
TessErrorCallBack _tessSetErrorCallBack(TessErrorCallBack)
    ZORN_ALIAS(zorn_tess_kernel_SetErrorCallBack);
TessErrorCallBack _tessGetErrorCallBack(void) ZORN_ALIAS(zorn_tess_kernel_GetErrorCallBack);
TessErrorCallBack _tessClearErrorCallBack(void) ZORN_ALIAS(zorn_tess_kernel_ClearErrorCallBack);
const void* _tessSetInterfInputVectorPointer(const void*)
    ZORN_ALIAS(zorn_tess_kernel_SetInterfInputVectorPointer);
}
