// A callback registration record of a session or dataset. It only keeps its values: nothing is registered with
// the engine and the event is never called.
#pragma once

#include <functional>

#include "rtl/Objects.h"
#include "rtl/Types.h"

class TBaseTable;

using TbqCallbackEvent = std::function<Integer(Integer callbackType, void* buffer)>;

class TbqBDECallback : public TObject {
    DUN_CLASS(TbqBDECallback, TObject)
public:
    TbqBDECallback(TObject* owner, TBaseTable* cursor, Integer callbackType, void* buffer, Integer bufferSize,
                   TbqCallbackEvent event)
        : owner_(owner), cursor_(cursor), callbackType_(callbackType), event_(std::move(event))
    {
    }

    TObject* Owner() const { return owner_; }
    TBaseTable* Cursor() const { return cursor_; }
    Integer CallbackType() const { return callbackType_; }

private:
    TObject* owner_;
    TBaseTable* cursor_;
    Integer callbackType_;
    TbqCallbackEvent event_;
};
