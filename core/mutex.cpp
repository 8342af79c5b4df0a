#include <vc/core/mutex.h>

vcMutex& vcMutex::global() {
  static vcMutex m;
  return m;
}
