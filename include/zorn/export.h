/* Visibility of the exported interface. Declarations marked ZORN_API are the only
 * symbols libzorn_generic.so (zorn_generic.dll) exports; everything else is hidden. */
#ifndef ZORN_EXPORT_H
#define ZORN_EXPORT_H
#if defined(_WIN32)
#if defined(ZORN_BUILDING_LIBRARY)
#define ZORN_API __declspec(dllexport)
#else
#define ZORN_API
#endif
#else
#define ZORN_API __attribute__((visibility("default")))
#endif
/* Defines `name` as a second exported name of the already defined function `target`. */
#define ZORN_ALIAS(target) __attribute__((alias(#target))) ZORN_API
#endif
