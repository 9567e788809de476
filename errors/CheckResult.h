// The system's error convention inside its routines: a failed call is raised
// as _com_error carrying its HRESULT, caught at the routine's edge.
#pragma once

#include <comdef.h>

inline void CheckResult(HRESULT hr) {
  if (FAILED(hr)) _com_issue_error(hr);
}
