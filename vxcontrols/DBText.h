// TDBText: a label that shows the display text of a field of its data source's current record.
#pragma once

#include <memory>
#include <string>

#include "vcl/StdCtrls.h"

class TDataSource;
class TField;
class TFieldDataLink;

class TDBText : public TLabel {
    DUN_CLASS(TDBText, TLabel)
public:
    explicit TDBText(TComponent* owner);
    ~TDBText() override;
    static void Publish(TPublisher<TDBText>& p);

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    std::string DataField() const;
    void SetDataField(const std::string& value);
    TField* Field() const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    // The field's display text, empty without a field.
    void DataChange();

    std::unique_ptr<TFieldDataLink> dataLink_;
};
