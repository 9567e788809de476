// Resource ids shared by the test scripts and the tests.
#pragma once

#define IDR_PAGE 201
#define IDR_BINARY 5
#define IDR_EMPTY 6
#define IDR_DANISH_ONLY 211
#define IDR_NEUTRAL_FIRST 300
#define IDR_REGISTRY 101
#define IDR_TYPELIB 1
#define IDR_PROGRAM_DATA 7
