#pragma once

#include <QWidget>

class FlatImageButton;

// The gallery/list switch at the right end of the footer. The button of the
// active view keeps its bright look.
class ViewSelectionBar : public QWidget
{
    Q_OBJECT

public:
    enum View
    {
        GalleryView = 1,
        ListView = 2
    };
    static constexpr int kSpacing = 20;

    explicit ViewSelectionBar(QWidget* parent = nullptr);

    int getActiveView() const { return m_activeView; }
    // Marks the view as active without announcing it.
    void setActiveView(int view);

    FlatImageButton* galleryButton() const { return m_gallery; }
    FlatImageButton* listButton() const { return m_list; }

signals:
    void gallerySelected();
    void listSelected();

private:
    FlatImageButton* m_gallery = nullptr;
    FlatImageButton* m_list = nullptr;
    int m_activeView = GalleryView;
};
