// Resource identifiers, shared by resources.rc and the program. Plain include guards
// rather than #pragma once, which the resource compiler's preprocessor pass may reject.
#ifndef LSG_RESOURCE_IDS_H
#define LSG_RESOURCE_IDS_H

#define IDI_APP 1
#define IDR_STARTUP_JPEG 101

#endif
