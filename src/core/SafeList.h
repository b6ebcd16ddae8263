#pragma once
// cSafeList<T>: std::list with an index operator that walks from the first
// element and never reads outside the list. A bad index takes the failure path
// of SafeAccess.h and returns the fallback element of T, which is shared by
// every list of that element type and keeps what is written into it. Every
// other operation is the standard list's.

#include <iterator>
#include <list>

#include "core/SafeAccess.h"

template <class T>
class cSafeList : public std::list<T> {
 public:
  using std::list<T>::list;
  using std::list<T>::operator=;

  T& operator[](int index) { return *CheckedElement(index); }
  const T& operator[](int index) const { return *const_cast<cSafeList*>(this)->CheckedElement(index); }

 private:
  T* CheckedElement(int index) {
    const std::size_t count = this->size();
    if (index >= 0 && static_cast<std::size_t>(index) < count) return &*std::next(this->begin(), index);
    ReportSafeIndexFailure(eSafeContainerKind::List, index, count, sizeof(T));
    return &SafeFallbackElement<T>();
  }
};
