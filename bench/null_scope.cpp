#include "null_scope.h"

vcUIScope* vcNullScope::newChild(const vcUIRect& r, bool clipOnly) {
  auto* child = new vcNullScope(r.sz());
  if (clipOnly) child->subset(*this, r);
  else child->move(*this, r);
  return child;
}
