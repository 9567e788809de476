// Resources of the resolver module (besides its type library, TYPELIB 1).
#pragma once

#define IDR_PLATFORM_PATH_RESOLVER 101
