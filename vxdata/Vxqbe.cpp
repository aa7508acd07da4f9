#include "vxdata/Vxqbe.h"

#include <algorithm>
#include <cctype>

#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "rtl/StringRoutines.h"

namespace {

bool IsVariableChar(char c) { return std::isalnum(Byte(c)) || c == '#' || c == '_'; }

}  // namespace

TvxQBE::TvxQBE(TComponent* owner) : TvxQueryDataSet(owner), qbe_(std::make_unique<TStringList>())
{
    checksMasks_ = false;
}

void TvxQBE::Publish(TPublisher<TvxQBE>& p)
{
    p.Property("ControlType", &TvxQBE::ControlType, &TvxQBE::SetControlType);
    p.Property("LookupFields", &TvxQBE::LookupFields, &TvxQBE::SetLookupFields);
    p.Property("LookupLinks", &TvxQBE::LookupLinks, &TvxQBE::SetLookupLinks);
    p.Property("QBE", &TvxQBE::QBE, &TvxQBE::SetQBE);
    p.Property("AnswerTable", &TvxQBE::AnswerTable);
    p.Property("AuxiliaryTables", &TvxQBE::AuxiliaryTables);
    p.Property("BlankAsZero", &TvxQBE::BlankAsZero);
    p.Property("PictureMasks", &TvxQBE::PictureMasks, &TvxQBE::SetPictureMasks);
    vxPublishFilterEvents(p);
}

void TvxQBE::SetQBE(TStrings* value)
{
    qbe_->Assign(value);
    if (!Active()) return;
    Close();
    Open();
}

void TvxQBE::SetOnFilter(const TvxQBEFilterEvent& value)
{
    onFilter_ = value;
    SetFilterEvent(value ? std::function<void(bool&)>([this](bool& accept) { onFilter_(this, accept); }) : nullptr);
}

std::string TvxQBE::FilterRefusedWarning() const { return "Local Filtering is not supported on this QBE."; }

void TvxQBE::SetVariable(const std::string& name, const std::string& value)
{
    names_.push_back(name);
    values_.push_back(value);
}

// Each ~Name of a variable (the last given first) becomes its value in the native character set; any other ~word
// becomes one blank. Without an open database there is no native character set to convert to.
std::string TvxQBE::SubstituteLine(const std::string& line)
{
    std::string text = line;
    for (size_t v = names_.size(); v-- > 0;) {
        const std::string pattern = AnsiLowerCase("~" + names_[v]);
        std::string value = values_[v].substr(0, 255);
        std::vector<char> native(value.size() + 1);
        bool dataLoss = false;
        if (Database() && Engine()->AnsiToNative(native.data(), dataLoss, Word(value.size()), value.c_str()) == 0)
            value.assign(native.data(), value.size());
        for (size_t at = AnsiLowerCase(text).find(pattern); at != std::string::npos;
             at = AnsiLowerCase(text).find(pattern, at + value.size()))
            text.replace(at, pattern.size(), value);
    }
    for (size_t at = text.find('~'); at != std::string::npos; at = text.find('~', at + 1)) {
        size_t end = at + 1;
        while (end < text.size() && IsVariableChar(text[end])) ++end;
        text.replace(at, end - at, " ");
    }
    return text;
}

std::string TvxQBE::SubstitutedText()
{
    std::string text;
    for (Integer i = 0; i < qbe_->Count(); ++i) {
        const std::string line = qbe_->Strings(i);
        text += (i == 0 ? "" : "\r\n") + (line.find('~') == std::string::npos ? line : SubstituteLine(line));
    }
    return text;
}

// The engine has no query statements to run the substituted text.
Word TvxQBE::ExecuteQBE(TBaseTable*& cursor)
{
    cursor = nullptr;
    return DBIERR_NOTSUPPORTED;
}

TBaseTable* TvxQBE::CreateHandle()
{
    TBaseTable* cursor = nullptr;
    if (qbe_->Count() > 0 && !qbe_->Strings(0).empty()) RaiseEngineError(Engine(), ExecuteQBE(cursor));
    return TvxQueryDataSet::CreateHandle();
}
