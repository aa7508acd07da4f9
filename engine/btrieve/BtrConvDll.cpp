#include "engine/btrieve/BtrConvDll.h"

#include <memory>

#include "engine/btrieve/BtrFatalBox.h"
#include "rtl/WinApi.h"

namespace {

std::unique_ptr<TConversionFunctions> instance;

void ReportMissingEntryPoint(const std::string& name, const std::string& fileName)
{
    ShowFatalErrorAndTerminate("Error Loading Dynamic Function " + name + " from " + fileName);
}

}  // namespace

TConversionFunctions::TConversionFunctions() : TConversionFunctions({ConversionDll, ConversionDllAlternative}) {}

TConversionFunctions::TConversionFunctions(std::initializer_list<std::string> fileNames)
{
    for (const std::string& fileName : fileNames)
        if (Load(fileName)) return;
}

TConversionFunctions::~TConversionFunctions()
{
    if (Loaded()) FreeLibrary(reinterpret_cast<HMODULE>(handle_));
}

template <class Fn>
void TConversionFunctions::Bind(Fn& entryPoint, const char* name)
{
    entryPoint = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name)));
    if (!entryPoint) ReportMissingEntryPoint(name, fileName_);
}

bool TConversionFunctions::Load(const std::string& fileName)
{
    if (Loaded()) return false;
    HMODULE module = LoadLibraryA(fileName.c_str());
    if (!module) return false;
    handle_ = reinterpret_cast<uintptr_t>(module);
    fileName_ = fileName;
    Bind(Get_LongYMD, "Get_LongYMD");
    Bind(Set_LongDate, "Set_LongDate");
    Bind(Get_Binary, "Get_Binary");
    Bind(Set_Binary, "Set_Binary");
    Bind(Get_MagicDate, "Get_MagicDate");
    Bind(Set_MagicDate, "Set_MagicDate");
    Bind(Get_Ctime, "Get_Ctime");
    Bind(Set_Ctime, "Set_Ctime");
    Bind(Get_MagicNum100, "Get_MagicNum100");
    Bind(Set_MagicNum100, "Set_MagicNum100");
    Bind(Get_TasProTime, "Get_TasProTime");
    Bind(Set_TasProTime, "Set_TasProTime");
    Bind(Get_TasProNum, "Get_TasProNum");
    Bind(Set_TasProNum, "Set_TasProNum");
    Bind(Get_MagicTime, "Get_MagicTime");
    Bind(Set_MagicTime, "Set_MagicTime");
    Bind(Get_YMD, "Get_YMD");
    Bind(Set_YMD, "Set_YMD");
    Bind(Get_YYMMDD, "Get_YYMMDD");
    Bind(Set_YYMMDD, "Set_YYMMDD");
    Bind(Get_YYYYMMDD, "Get_YYYYMMDD");
    Bind(Set_YYYYMMDD, "Set_YYYYMMDD");
    Bind(Get_TasProDate, "Get_TasProDate");
    Bind(Set_TasProDate, "Set_TasProDate");
    Bind(Get_UDecimal, "Get_UDecimal");
    Bind(Set_UDecimal, "Set_UDecimal");
    Bind(Get_VBCurrency, "Get_VBCurrency");
    Bind(Set_VBCurrency, "Set_VBCurrency");
    Bind(Get_BtrieveTime, "Get_BtrieveTime");
    Bind(Set_BtrieveDate, "Set_BtrieveDate");
    Bind(Get_BtrieveDate, "Get_BtrieveDate");
    Bind(Set_BtrieveTime, "Set_BtrieveTime");
    return true;
}

TConversionFunctions& ConversionFunctions()
{
    if (!instance) instance = std::make_unique<TConversionFunctions>();
    return *instance;
}

void SetConversionFunctions(std::unique_ptr<TConversionFunctions> functions)
{
    instance = std::move(functions);
}

bool ConversionFunctionsAvailable()
{
    return ConversionFunctions().Loaded();
}
