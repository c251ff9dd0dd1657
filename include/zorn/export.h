/* Visibility of the exported interface. Declarations marked ZORN_API are the only
 * symbols libzorn_generic.so exports; everything else is hidden. */
#ifndef ZORN_EXPORT_H
#define ZORN_EXPORT_H
#define ZORN_API __attribute__((visibility("default")))
/* Defines `name` as a second exported name of the already defined function `target`. */
#define ZORN_ALIAS(target) __attribute__((alias(#target), visibility("default")))
#endif
