#pragma once
#include <string>

// The folder of the executable, ending in exactly one backslash.
std::string AppPath();
// Records where the executable lives; sets the folder for AppPath and the base name for ExeBaseName.
void SetExecutablePath(const std::string& fullPath);

// A window that is loaded, in the order windows were loaded; UnloadAllForms walks this list.
class ILoadedForm {
public:
    virtual void UnloadForm() = 0;

protected:
    ~ILoadedForm() = default;
};

void RegisterLoadedForm(ILoadedForm* form);
void UnregisterLoadedForm(ILoadedForm* form);
bool IsFormLoaded(const ILoadedForm* form);
// Unloads every loaded window in load order; `inProgress`, whose unload is running, is skipped.
void UnloadAllForms(ILoadedForm* inProgress = nullptr);
