#include "vcl/HeaderControl.h"

#include "classes/ClassRegistry.h"

namespace {
const bool registered = (RegisterClasses<THeaderControl>(), true);
}

// ---- THeaderSection

void THeaderSection::Publish(TPublisher<THeaderSection>& p)
{
    p.Property("Text", &THeaderSection::Text, &THeaderSection::SetText);
    p.Property("Width", &THeaderSection::Width, &THeaderSection::SetWidth);
    p.Property("Alignment", &THeaderSection::Alignment, &THeaderSection::SetAlignment).Default(taLeftJustify);
}

void THeaderSection::Assign(TPersistent* source)
{
    if (auto* section = dynamic_cast<THeaderSection*>(source)) {
        text_ = section->text_;
        width_ = section->width_;
        alignment_ = section->alignment_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

void THeaderSection::SetText(const std::string& text)
{
    text_ = text;
    Changed(false);
}

void THeaderSection::SetWidth(Integer width)
{
    width_ = width;
    Changed(false);
}

void THeaderSection::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    Changed(false);
}

Integer THeaderSection::Left() const
{
    Integer left = 0;
    for (Integer i = 0; i < Index(); ++i) left += static_cast<THeaderSection*>(Collection()->Items(i))->Width();
    return left;
}

THeaderSection* THeaderSections::Add()
{
    BeginUpdate();
    THeaderSection* section = nullptr;
    try {
        section = static_cast<THeaderSection*>(TCollection::Add());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return section;
}

TPersistent* THeaderSections::GetOwner() const { return header_; }

void THeaderSections::Update(TCollectionItem*) { header_->UpdateSections(); }

// ---- THeaderControl

THeaderControl::THeaderControl(TComponent* owner)
    : TWinControl(owner), sections_(std::make_unique<THeaderSections>(this))
{
    align_ = alTop;
    width_ = 200;
    height_ = 17;
    color_ = clBtnFace;
}

void THeaderControl::Publish(TPublisher<THeaderControl>& p)
{
    p.Property("Sections", &THeaderControl::Sections, &THeaderControl::SetSections);
    p.Property("OnSectionClick", &THeaderControl::OnSectionClick);
    p.Property("OnSectionResize", &THeaderControl::OnSectionResize);
}

void THeaderControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = WC_HEADERA;
    params.Style |= HDS_BUTTONS | HDS_HORZ;
}

void THeaderControl::CreateWindowHandle(const TCreateParams& params)
{
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)initialised;
    TWinControl::CreateWindowHandle(params);
    UpdateSections();
}

// The window's items follow the sections: same number, texts, widths and alignments.
void THeaderControl::UpdateSections()
{
    if (!handle_) return;
    static const int formats[] = {HDF_LEFT, HDF_RIGHT, HDF_CENTER};
    auto itemCount = [this] { return Integer(SendMessageA(handle_, HDM_GETITEMCOUNT, 0, 0)); };
    while (itemCount() > sections_->Count()) SendMessageA(handle_, HDM_DELETEITEM, itemCount() - 1, 0);
    for (Integer i = 0; i < sections_->Count(); ++i) {
        THeaderSection* section = sections_->Items(i);
        std::string text = section->Text();
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = text.data();
        item.cxy = section->Width();
        item.fmt = HDF_STRING | formats[section->Alignment()];
        if (i < itemCount())
            SendMessageA(handle_, HDM_SETITEMA, i, LPARAM(&item));
        else
            SendMessageA(handle_, HDM_INSERTITEMA, i, LPARAM(&item));
    }
}

void THeaderControl::Notify(TMessage& message)
{
    const auto* header = reinterpret_cast<const NMHEADERA*>(message.LParam);
    if (header->iItem < 0 || header->iItem >= sections_->Count()) return;
    THeaderSection* section = sections_->Items(header->iItem);
    switch (header->hdr.code) {
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        if (OnSectionClick) OnSectionClick(this, section);
        break;
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
        if (header->pitem && (header->pitem->mask & HDI_WIDTH)) {
            section->SetWidth(header->pitem->cxy);
            if (OnSectionResize) OnSectionResize(this, section);
        }
        break;
    default:
        break;
    }
}

void THeaderControl::Dispatch(TMessage& message)
{
    if (message.Msg == CN_NOTIFY) {
        Notify(message);
        return;
    }
    TWinControl::Dispatch(message);
}
