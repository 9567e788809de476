// A module with nothing but resources: its TYPELIB 1 is the test library.
extern "C" int typelib_test_module_anchor() { return 1; }
