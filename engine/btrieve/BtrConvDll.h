// The field-conversion DLL: bound on the first custom-type conversion, its 32 entry points by name.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "requester/fieldconv/FieldConvApi.h"
#include "rtl/Objects.h"

constexpr const char* ConversionDll = "boreac32.dll";
constexpr const char* ConversionDllAlternative = "s2dtconv.dll";

class TConversionFunctions : public TObject {
    DUN_CLASS(TConversionFunctions, TObject)
public:
    // Loads ConversionDll, else ConversionDllAlternative.
    TConversionFunctions();
    // Loads the first of the files that loads.
    explicit TConversionFunctions(std::initializer_list<std::string> fileNames);
    ~TConversionFunctions() override;

    // False when a DLL is loaded already or the file cannot be loaded. A missing entry point shows an error box
    // and asks the application to end; the entry point stays unbound (nullptr).
    bool Load(const std::string& fileName);
    bool Loaded() const { return handle_ != NotLoaded; }

    FieldConv::GetDateTimeFn Get_LongYMD = nullptr;
    FieldConv::SetDateTimeFn Set_LongDate = nullptr;
    FieldConv::GetBinaryFn Get_Binary = nullptr;
    FieldConv::SetBinaryFn Set_Binary = nullptr;
    FieldConv::GetDayCountFn Get_MagicDate = nullptr;
    FieldConv::SetDayCountFn Set_MagicDate = nullptr;
    FieldConv::GetDateTimeFn Get_Ctime = nullptr;
    FieldConv::SetDateTimeFn Set_Ctime = nullptr;
    FieldConv::GetSizedNumberFn Get_MagicNum100 = nullptr;
    FieldConv::SetSizedNumberFn Set_MagicNum100 = nullptr;
    FieldConv::GetDateTimeFn Get_TasProTime = nullptr;
    FieldConv::SetDateTimeFn Set_TasProTime = nullptr;
    FieldConv::GetScaledNumberFn Get_TasProNum = nullptr;
    FieldConv::SetScaledNumberFn Set_TasProNum = nullptr;
    FieldConv::GetDateTimeFn Get_MagicTime = nullptr;
    FieldConv::SetDateTimeFn Set_MagicTime = nullptr;
    FieldConv::GetDateTimeFn Get_YMD = nullptr;
    FieldConv::SetDateTimeFn Set_YMD = nullptr;
    FieldConv::GetDateTimeFn Get_YYMMDD = nullptr;
    FieldConv::SetDateTimeFn Set_YYMMDD = nullptr;
    FieldConv::GetDateTimeFn Get_YYYYMMDD = nullptr;
    FieldConv::SetDateTimeFn Set_YYYYMMDD = nullptr;
    FieldConv::GetDateTimeFn Get_TasProDate = nullptr;
    FieldConv::SetDateTimeFn Set_TasProDate = nullptr;
    FieldConv::GetScaledNumberFn Get_UDecimal = nullptr;
    FieldConv::SetScaledNumberFn Set_UDecimal = nullptr;
    FieldConv::GetNumberFn Get_VBCurrency = nullptr;
    FieldConv::SetNumberFn Set_VBCurrency = nullptr;
    FieldConv::GetDateTimeFn Get_BtrieveTime = nullptr;
    FieldConv::SetDateTimeFn Set_BtrieveDate = nullptr;
    FieldConv::GetDateTimeFn Get_BtrieveDate = nullptr;
    FieldConv::SetDateTimeFn Set_BtrieveTime = nullptr;

private:
    static constexpr uintptr_t NotLoaded = 32;

    template <class Fn>
    void Bind(Fn& entryPoint, const char* name);

    uintptr_t handle_ = NotLoaded;
    std::string fileName_;
};

// The process-wide instance, created (and the DLL loaded, once) on first use; true when a DLL is loaded.
bool ConversionFunctionsAvailable();
TConversionFunctions& ConversionFunctions();
// Replaces the process-wide instance (nullptr: made again on the next use).
void SetConversionFunctions(std::unique_ptr<TConversionFunctions> functions);
