// The host's signal names, a thin layer over libsigc++ 3.
#pragma once
#include <sigc++/sigc++.h>

namespace SigC {

using ObjectBase = sigc::trackable;
// Every host widget and slot owner derives from Object; connections die with it.
class Object : public virtual ObjectBase {
public:
  virtual ~Object() = default;
};

template <class R> using Signal0 = sigc::signal<R()>;
template <class R, class A1> using Signal1 = sigc::signal<R(A1)>;
template <class R, class A1, class A2> using Signal2 = sigc::signal<R(A1, A2)>;
template <class R, class A1, class A2, class A3> using Signal3 = sigc::signal<R(A1, A2, A3)>;

using Connection = sigc::connection;

// slot(object, &Class::method): the method may be declared in a base of the object's class.
template <class O, class T, class R, class... A>
auto slot(O& obj, R (T::*method)(A...)) {
  return sigc::mem_fun(static_cast<T&>(obj), method);
}
template <class O, class T, class R, class... A>
auto slot(O& obj, R (T::*method)(A...) const) {
  return sigc::mem_fun(static_cast<const T&>(obj), method);
}
template <class R, class... A>
auto slot(R (*fn)(A...)) {
  return sigc::ptr_fun(fn);
}

}  // namespace SigC

#define CONNECT(SIGNAL, SLOT) (SIGNAL).connect(SLOT)
