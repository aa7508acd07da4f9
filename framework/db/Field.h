// TField, the base of every field of a dataset, and TFields, a dataset's list of fields.
#pragma once

#include <bitset>
#include <functional>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "db/DBTypes.h"
#include "rtl/Types.h"
#include "rtl/VarRec.h"
#include "rtl/Variants.h"

class TDataSet;
class TField;
class TFields;
class TObjectField;

using TFieldNotifyEvent = std::function<void(TField* sender)>;
using TFieldGetTextEvent = std::function<void(TField* sender, std::string& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const std::string& text)>;
using TFieldChars = std::bitset<256>;

class TField : public TComponent {
    DUN_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* owner);
    ~TField() override;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);
    // The name that finds the field in its dataset: "Parent.Child" for a child of an object, "Array[0]" for an
    // element.
    std::string FullName() const;
    // The object field this one is a child of; nullptr at the top level.
    TObjectField* ParentField() const { return parentField_; }
    // Makes the field a child of parent, in parent's dataset.
    void SetParentField(TObjectField* parent);
    Integer FieldNo() const { return fieldNo_; }
    void SetFieldNo(Integer fieldNo) { fieldNo_ = fieldNo; }
    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind kind);
    TFieldType DataType() const { return dataType_; }
    // Takes a definition's data type when the class holds values of it (base: keeps its own).
    virtual void SetFieldType(TFieldType type) {}
    Integer Size() const { return size_; }
    void SetSize(Integer size);
    // Bytes this field's value takes in a record buffer (GetData / SetData form).
    virtual Integer DataSize() const { return 0; }
    Integer Offset() const { return offset_; }
    void SetOffset(Integer offset) { offset_ = offset; }
    Integer Index() const;
    void SetIndex(Integer index);
    bool Calculated() const { return fieldKind_ == fkCalculated; }
    bool Lookup() const { return fieldKind_ == fkLookup; }
    bool IsBlob() const;
    bool IsIndexField() const;

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool Required() const { return required_; }
    void SetRequired(bool required) { required_ = required; }
    // The label shown for the field; the field name when none was set.
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& label);
    std::string DisplayName() const { return DisplayLabel(); }
    Integer DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : GetDefaultWidth(); }
    void SetDisplayWidth(Integer width);
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    virtual bool CanModify() const;

    // Constraints: a check on the value, its error text, one from the database and a default value expression.
    const std::string& CustomConstraint() const { return customConstraint_; }
    void SetCustomConstraint(const std::string& value) { customConstraint_ = value; }
    const std::string& ConstraintErrorMessage() const { return constraintErrorMessage_; }
    void SetConstraintErrorMessage(const std::string& value) { constraintErrorMessage_ = value; }
    const std::string& ImportedConstraint() const { return importedConstraint_; }
    void SetImportedConstraint(const std::string& value) { importedConstraint_ = value; }
    const std::string& DefaultExpression() const { return defaultExpression_; }
    void SetDefaultExpression(const std::string& value) { defaultExpression_ = value; }
    bool HasConstraints() const;

    // The record's value.
    virtual bool IsNull() const;
    virtual void Clear() { SetData(nullptr); }
    std::string AsString() const { return GetAsString(); }
    Integer AsInteger() const { return GetAsInteger(); }
    double AsFloat() const { return GetAsFloat(); }
    Currency AsCurrency() const { return GetAsCurrency(); }
    bool AsBoolean() const { return GetAsBoolean(); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    virtual void SetAsString(const std::string& value);
    virtual void SetAsInteger(Integer value);
    virtual void SetAsFloat(double value);
    virtual void SetAsCurrency(Currency value) { SetAsFloat(value.ToDouble()); }
    virtual void SetAsBoolean(bool value);
    virtual void SetAsDateTime(TDateTime value);
    Variant AsVariant() const { return IsNull() ? Null() : GetAsVariant(); }
    void SetAsVariant(const Variant& value);
    Variant Value() const { return AsVariant(); }
    void SetValue(const Variant& value) { SetAsVariant(value); }
    // The value before the pending change, the new value, and the value now in the database (cached updates).
    Variant OldValue() const;
    Variant NewValue() const;
    void SetNewValue(const Variant& value);
    Variant CurValue() const;
    // Assigns one element of an open array of constants.
    void AssignValue(const TVarRec& value);
    // Copies the value of another field (or clears this one for none).
    void Assign(TPersistent* source) override;

    // Texts: DisplayText for showing, Text / EditText for editing (OnGetText / OnSetText take part).
    std::string DisplayText() const { return TextOf(true); }
    std::string Text() const { return TextOf(false); }
    void SetText(const std::string& text);
    std::string EditText() const { return TextOf(false); }
    void SetEditText(const std::string& text) { SetText(text); }
    virtual bool IsValidChar(char c) const { return validChars_.test(static_cast<unsigned char>(c)); }
    const TFieldChars& ValidChars() const { return validChars_; }
    void SetValidChars(const TFieldChars& chars) { validChars_ = chars; }

    // Lookup fields: the value of LookupResultField in LookupDataSet where LookupKeyFields match KeyFields.
    TDataSet* LookupDataSet() const { return lookupDataSet_; }
    void SetLookupDataSet(TDataSet* dataSet);
    const std::string& KeyFields() const { return keyFields_; }
    void SetKeyFields(const std::string& names) { keyFields_ = names; }
    const std::string& LookupKeyFields() const { return lookupKeyFields_; }
    void SetLookupKeyFields(const std::string& names) { lookupKeyFields_ = names; }
    const std::string& LookupResultField() const { return lookupResultField_; }
    void SetLookupResultField(const std::string& name) { lookupResultField_ = name; }
    // Computes a lookup field's value into the calculation buffer.
    void CalcLookupValue();

    // Asks the data-aware control that shows this field to take the focus.
    void FocusControl();

    // Raw access in the dataset's record form.
    bool GetData(void* buffer) const;
    void SetData(const void* buffer);
    // Runs OnValidate with the new value readable through the field.
    void Validate(const void* buffer);
    // OnChange; the dataset calls it when the value changed.
    void Change();
    // Lets go of what the field holds for the record being edited; the dataset calls it when the record is posted
    // or cancelled (base: nothing).
    virtual void FreeBuffers() {}

    void Notification(TComponent* component, TOperation operation) override;
    // In a form file a persistent field is written inside its dataset.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    void ReadState(TReader* reader) override;
    // A child of an object field is written beside the other fields of its dataset, with ParentField naming its
    // object field (written before it).
    void DefineProperties(TFiler* filer) override;
    static void Publish(TPublisher<TField>& p);

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

protected:
    virtual std::string GetAsString() const;
    virtual Integer GetAsInteger() const;
    virtual double GetAsFloat() const;
    virtual Currency GetAsCurrency() const { return Currency(GetAsFloat()); }
    virtual bool GetAsBoolean() const;
    virtual TDateTime GetAsDateTime() const;
    virtual Variant GetAsVariant() const;
    virtual void SetVarValue(const Variant& value);
    // The text of the value; displayText selects the display form over the edit form.
    virtual void GetText(std::string& text, bool displayText) const { text = GetAsString(); }
    virtual void SetTextValue(const std::string& text) { SetAsString(text); }
    virtual Integer GetDefaultWidth() const { return 10; }

    void SetDataType(TFieldType type) { dataType_ = type; }
    // The alignment of the class, which form files leave out.
    void SetDefaultAlignment(TAlignment alignment) { alignment_ = defaultAlignment_ = alignment; }
    void CheckInactive() const;
    void CheckDataSet() const;
    [[noreturn]] void AccessError(const std::string& typeName) const;
    [[noreturn]] void RangeError(const std::string& value, const std::string& min, const std::string& max) const;
    void PropertyChanged(bool layoutAffected);

private:
    friend class TDataSet;
    friend class TObjectField;

    std::string TextOf(bool displayText) const;
    // The object field a form file names as parent; raises when the form has none of that name.
    static TObjectField* FindParentField(TReader* reader, const std::string& name);
    bool IsAlignmentStored() const { return alignment_ != defaultAlignment_; }
    bool IsDisplayLabelStored() const { return !displayLabel_.empty(); }
    bool IsDisplayWidthStored() const { return displayWidth_ > 0; }

    TDataSet* dataSet_ = nullptr;
    TObjectField* parentField_ = nullptr;
    // The ParentField read from a form file, taken when the field's properties are read.
    TObjectField* readParentField_ = nullptr;
    std::string fieldName_;
    Integer fieldNo_ = 0;
    TFieldKind fieldKind_ = fkData;
    TFieldType dataType_ = ftUnknown;
    Integer size_ = 0;
    Integer offset_ = 0;
    bool visible_ = true;
    bool readOnly_ = false;
    bool required_ = false;
    std::string displayLabel_;
    Integer displayWidth_ = 0;
    std::string editMask_;
    TAlignment alignment_ = taLeftJustify;
    TAlignment defaultAlignment_ = taLeftJustify;
    TFieldChars validChars_;
    TDataSet* lookupDataSet_ = nullptr;
    std::string keyFields_;
    std::string lookupKeyFields_;
    std::string lookupResultField_;
    std::string customConstraint_;
    std::string constraintErrorMessage_;
    std::string importedConstraint_;
    std::string defaultExpression_;
    // While OnValidate runs: the value being validated (nullptr = a cleared value).
    mutable bool validating_ = false;
    const void* valueBuffer_ = nullptr;
};

// The fields of a dataset in their order. Does not own them.
class TFields : public TObject {
    DUN_CLASS(TFields, TObject)
public:
    explicit TFields(TDataSet* dataSet) : dataSet_(dataSet) {}

    TDataSet* DataSet() const { return dataSet_; }
    Integer Count() const { return Integer(fields_.size()); }
    TField* Fields(Integer index) const;
    TField* operator[](Integer index) const { return Fields(index); }
    void Add(TField* field);
    void Remove(TField* field);
    void Clear() { fields_.clear(); }
    Integer IndexOf(const TField* field) const;
    void SetFieldIndex(TField* field, Integer index);
    TField* FindField(const std::string& name) const;
    TField* FieldByName(const std::string& name) const;
    TField* FieldByNumber(Integer fieldNo) const;
    void CheckFieldName(const std::string& name) const;
    std::vector<std::string> GetFieldNames() const;

private:
    TDataSet* dataSet_;
    std::vector<TField*> fields_;
};
