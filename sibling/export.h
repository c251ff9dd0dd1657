// Symbol export for the stand-in sibling library.
#pragma once
#if defined(_WIN32)
#define ZORN_CORE_EXPORT extern "C" __declspec(dllexport)
#else
#define ZORN_CORE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
