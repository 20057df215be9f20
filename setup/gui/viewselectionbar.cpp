#include "viewselectionbar.h"

#include "flatimagebutton.h"
#include "tighthboxlayout.h"

namespace {
FlatImageButton* viewButton(const QString& image, const QString& hover, const QString& focus, QWidget* parent)
{
    auto* button = new FlatImageButton(image, parent);
    button->setHoverImage(hover);
    // The active view's button is already bright: focus takes the accent colour.
    button->setFocusImage(focus);
    button->setCheckedImage(hover);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
} // namespace

ViewSelectionBar::ViewSelectionBar(QWidget* parent) : QWidget(parent)
{
    m_gallery = viewButton(QStringLiteral(":/Gallery"), QStringLiteral(":/GalleryHover"),
                           QStringLiteral(":/GalleryFocus"), this);
    m_list = viewButton(QStringLiteral(":/List"), QStringLiteral(":/ListHover"), QStringLiteral(":/ListFocus"), this);
    m_gallery->setToolTip(tr("Gallery view"));
    m_list->setToolTip(tr("List view"));
    m_gallery->setAccessibleName(m_gallery->toolTip());
    m_list->setAccessibleName(m_list->toolTip());
    auto* row = new TightHBoxLayout(this);
    row->setSpacing(kSpacing);
    row->addWidget(m_gallery);
    row->addWidget(m_list);
    setActiveView(GalleryView);

    connect(m_gallery, &FlatImageButton::clicked, this, [this] {
        setActiveView(GalleryView);
        emit gallerySelected();
    });
    connect(m_list, &FlatImageButton::clicked, this, [this] {
        setActiveView(ListView);
        emit listSelected();
    });
}

void ViewSelectionBar::setActiveView(int view)
{
    m_activeView = view == ListView ? ListView : GalleryView;
    // A click on the active button must not un-check it.
    m_gallery->setChecked(m_activeView == GalleryView);
    m_list->setChecked(m_activeView == ListView);
}
