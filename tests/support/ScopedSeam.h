#pragma once
#include "settings/RegistryApi.h"

// Installs a process-wide seam (SetRegistryApi, SetInterfaceTable, SetSystemTimer, SetTickSource64,
// SetLogSystem, SetPictureLoader, ...) for the life of a scope and puts back the one it found, even
// when a failed assertion ends the test early.
template <class T>
class ScopedSeam {
public:
    ScopedSeam(T (*current)(), void (*set)(T), T value) : m_set(set), m_previous(current()) { set(value); }
    ~ScopedSeam() { m_set(m_previous); }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    void (*m_set)(T);
    T m_previous;
};

struct ScopedRegistryApi : ScopedSeam<IRegistryApi*> {
    explicit ScopedRegistryApi(IRegistryApi& api)
        : ScopedSeam([] { return &CurrentRegistryApi(); }, SetRegistryApi, &api) {}
};
