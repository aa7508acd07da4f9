#include "classes/FormResource.h"

#include <vector>

#include "classes/Filer.h"
#include "classes/FormText.h"
#include "rtl/Streams.h"
#include "rtl/WinApi.h"

namespace {

HMODULE& ResourceModule()
{
    static HMODULE module = nullptr;
    return module;
}

HMODULE CurrentModule()
{
    return ResourceModule() ? ResourceModule() : GetModuleHandleA(nullptr);
}

}  // namespace

void ReadComponentText(TComponent* root, const std::string& text)
{
    TReader reader(ParseFormText(text));
    reader.ReadRootComponent(root);
}

std::string WriteComponentText(TComponent* root)
{
    TWriter writer;
    writer.WriteRootComponent(root);
    return FormTokensToText(writer.Tokens());
}

void SetFormResourceModule(void* module)
{
    ResourceModule() = static_cast<HMODULE>(module);
}

bool HasFormResource(const std::string& resourceName)
{
    return FindResourceA(CurrentModule(), resourceName.c_str(), MAKEINTRESOURCEA(10)) != nullptr;
}

bool ReadComponentRes(const std::string& resourceName, TComponent* instance)
{
    if (!HasFormResource(resourceName)) return false;
    TResourceStream stream(CurrentModule(), resourceName, MAKEINTRESOURCEA(10));
    std::string text(size_t(stream.Size()), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), Integer(text.size()));
    ReadComponentText(instance, text);
    return true;
}

bool InitInheritedComponent(TComponent* instance, TClass rootAncestor)
{
    std::vector<TClass> chain;
    for (TClass cls = instance->ClassType(); cls && cls != rootAncestor; cls = cls->Parent) chain.push_back(cls);
    bool found = false;
    TGlobalLoading loading;
    for (auto cls = chain.rbegin(); cls != chain.rend(); ++cls)
        if (ReadComponentRes((*cls)->Name, instance)) found = true;
    loading.Notify();
    return found;
}
