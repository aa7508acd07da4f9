// What the tests of the record-file layers check failures with.
#pragma once

#include <functional>
#include <string>

#include "engine/btrieve/BtrError.h"
#include "rtl/Exceptions.h"

// The text of the EAbort the action raises, or "<no abort>".
inline std::string AbortText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EAbort& e) {
        return e.Message();
    }
    return "<no abort>";
}

// The lines the layers' messages give a record-manager status in.
inline std::string StatusLines(int status)
{
    return "Btrieve status " + std::to_string(status) + ".\r" + BtrieveStatusText(status);
}
