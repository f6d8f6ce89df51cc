/* The program's version, written once: the version resource, the settings
   window's subtitle and the release package (tools/package.sh reads these
   lines) take it from here. Plain
   include guards: the resource compilers' preprocessors read this too. */
#ifndef ZAVIK_VERSION_H
#define ZAVIK_VERSION_H

#define ZAVIK_VERSION_MAJOR 1
#define ZAVIK_VERSION_MINOR 0
#define ZAVIK_VERSION_PATCH 0
#define ZAVIK_VERSION_BUILD 0

#define ZAVIK_STRINGIZE_(x) #x
#define ZAVIK_STRINGIZE(x) ZAVIK_STRINGIZE_(x)

/* "1.0.0.0" and 1,0,0,0 for the VERSIONINFO statements. The manifest's
   assemblyIdentity version is XML and cannot use these: keep it in step. */
#define ZAVIK_VERSION_TEXT                                                \
    ZAVIK_STRINGIZE(ZAVIK_VERSION_MAJOR) "." ZAVIK_STRINGIZE(ZAVIK_VERSION_MINOR) \
    "." ZAVIK_STRINGIZE(ZAVIK_VERSION_PATCH) "." ZAVIK_STRINGIZE(ZAVIK_VERSION_BUILD)
#define ZAVIK_VERSION_BINARY \
    ZAVIK_VERSION_MAJOR, ZAVIK_VERSION_MINOR, ZAVIK_VERSION_PATCH, ZAVIK_VERSION_BUILD

/* What the subtitle shows after its "v": "1.0" and the release stage. */
#define ZAVIK_VERSION_SHORT_TEXT \
    ZAVIK_STRINGIZE(ZAVIK_VERSION_MAJOR) "." ZAVIK_STRINGIZE(ZAVIK_VERSION_MINOR)
#define ZAVIK_VERSION_STAGE "beta"

#define ZAVIK_PRODUCT_NAME "Zavik Crosshair"

#endif
