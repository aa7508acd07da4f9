// The report viewer's stand-in: shows one text report read-only in a fixed-pitch window. The host starts it as
// "Parvue <data directory>\ <report file> 10 W".
#pragma once

#include <string>

#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

// The report file a viewer command line names (the text after the program): the directory up to its last "\ "
// joined with the word after it; without "\ " the first word is the file.
std::string ViewerReportFile(const std::string& arguments);
// The command line after the program's own name (quoted or not).
std::string CommandLineArguments(const std::string& commandLine);

class TParvueForm : public TForm {
    DUN_CLASS(TParvueForm, TForm)
public:
    explicit TParvueForm(TComponent* owner);

    TMemo* Report = nullptr;

    // Shows the file, named in the caption; false when it cannot be read.
    bool LoadReport(const std::string& fileName);
    // Escape closes the viewer.
    void FormKeyDown(TObject* sender, Word& key, TShiftState shift);

    static void Publish(TPublisher<TParvueForm>& p);
};
