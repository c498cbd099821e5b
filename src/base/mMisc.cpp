#include "base/mMisc.h"
#include "base/AppInfo.h"

#include <algorithm>
#include <vector>

namespace {
std::string g_appPath = ".\\";
std::string g_exeBaseName = kAppTitle;
std::vector<ILoadedForm*> g_forms;
} // namespace

const std::string& ExeBaseName() {
    return g_exeBaseName;
}
void SetExeBaseName(std::string name) {
    g_exeBaseName = std::move(name);
}

std::string TitleWithVersion() {
    return std::string(kAppTitle) + " v" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor);
}

std::string AppPath() {
    return g_appPath;
}

void SetExecutablePath(const std::string& fullPath) {
    const auto slash = fullPath.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : fullPath.substr(0, slash);
    std::string file = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
    // A drive root ("C:") keeps its single separator.
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    g_appPath = folder;
    const auto dot = file.find_last_of('.');
    g_exeBaseName = dot == std::string::npos ? file : file.substr(0, dot);
}

void RegisterLoadedForm(ILoadedForm* form) {
    if (std::find(g_forms.begin(), g_forms.end(), form) == g_forms.end())
        g_forms.push_back(form);
}

void UnregisterLoadedForm(ILoadedForm* form) {
    std::erase(g_forms, form);
}

bool IsFormLoaded(const ILoadedForm* form) {
    return std::find(g_forms.begin(), g_forms.end(), form) != g_forms.end();
}

void UnloadAllForms(ILoadedForm* inProgress) {
    // Unloading changes the list, so walk a snapshot and skip any window already gone.
    const std::vector<ILoadedForm*> snapshot = g_forms;
    for (ILoadedForm* form : snapshot) {
        if (form != inProgress && IsFormLoaded(form))
            form->UnloadForm();
    }
}
