// Symbol visibility for the stand-in sibling library.
#pragma once
#define ZORN_CORE_EXPORT extern "C" __attribute__((visibility("default")))
