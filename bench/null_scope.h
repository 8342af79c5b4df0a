// A surface that does nothing, so benchmarks measure the tablet alone.
#pragma once

#include <vc/uiscope_adapter.h>

class vcNullScope : public vcUIScopeAdapter {
public:
  explicit vcNullScope(const vcPair<long>& size) : vcUIScopeAdapter(vcPair<long>(0, 0), size) {}
  vcUIScope* newChild(const vcUIRect& r, bool clipOnly) override;
};
