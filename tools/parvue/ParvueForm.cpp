#include "tools/parvue/ParvueForm.h"

#include "rtl/FileUtils.h"
#include "rtl/StringRoutines.h"

std::string CommandLineArguments(const std::string& commandLine)
{
    size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find(' ');
        if (end == std::string::npos) end = commandLine.size();
    }
    return Trim(commandLine.substr(end));
}

std::string ViewerReportFile(const std::string& arguments)
{
    const std::string text = Trim(arguments);
    const size_t directoryEnd = text.rfind("\\ ");
    if (directoryEnd == std::string::npos) return text.substr(0, text.find(' '));
    const std::string rest = TrimLeft(text.substr(directoryEnd + 2));
    return text.substr(0, directoryEnd + 1) + rest.substr(0, rest.find(' '));
}

TParvueForm::TParvueForm(TComponent* owner) : TForm(owner)
{
    SetCaption("Report Viewer");
    SetBounds(0, 0, 860, 640);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* sender, Word& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
    Report = new TMemo(this);
    Report->Font()->SetName("Courier New");
    Report->Font()->SetPitch(fpFixed);  // where that face is missing, another fixed-pitch one
    Report->Font()->SetSize(10);
    Report->SetParent(this);
    Report->SetAlign(alClient);
    Report->SetReadOnly(true);
    Report->SetWordWrap(false);
    Report->SetScrollBars(ssBoth);
    Report->SetColor(clWindow);
    Report->SetAutoSelect(false);  // opens at the top, nothing selected
}

void TParvueForm::Publish(TPublisher<TParvueForm>& p)
{
    p.Field("Report", &TParvueForm::Report);
}

bool TParvueForm::LoadReport(const std::string& fileName)
{
    if (!FileExists(fileName)) return false;
    try {
        Report->Lines()->LoadFromFile(fileName);
    } catch (const Exception&) {
        return false;
    }
    SetCaption("Report Viewer - " + ExtractFileName(fileName));
    return true;
}

void TParvueForm::FormKeyDown(TObject*, Word& key, TShiftState)
{
    if (key != VK_ESCAPE) return;
    key = 0;
    Close();
}
