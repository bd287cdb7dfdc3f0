#pragma once
// The form menus: CBaseMDIMenu is an owner-drawn popup of a screen's keys (image, label and,
// for F-keys, the key name at the right); CBaseMDITitleMenu is the menu bar above a form,
// one such popup per menu group of the keys, at most ten.

#include "forms/FormKeysLogic.h"
#include "framework/Gdi.h"
#include "framework/Menu.h"

#include <string>
#include <vector>

class CBaseMDIMenu : public COwnerDrawnMenu {
  public:
    CBaseMDIMenu() = default;
    // The bitmap strip becomes the menu's images.
    explicit CBaseMDIMenu(UINT bitmap);

    // Appends an owner-drawn item (image -1: none); 1, or 0 when it could not be added.
    int AddMenu(const char* label, UINT id, int image);
    // Appends the first popup of the menu resource under its own title; 0 when there is none.
    int AddPopup(UINT menuId);
    // Fills the popup from the first `count` key texts, only those of `group` unless it is -1;
    // a bitmap number other than 0 replaces the images. Returns the item count.
    int CreateFunctions(const std::vector<std::string>& keys, int count, int group, UINT bitmap);
    // Appends items already read from the key texts; returns the item count.
    int AddItems(const std::vector<vorlan::KeyMenuItem>& items, UINT bitmap);
    // Shows the popup below the rectangle (screen coordinates), never over it; the chosen
    // command goes to the owner.
    BOOL TrackPopupMenuEx(const RECT& rect, HWND owner) const;

    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

    // The label of an owner-drawn item by its item data, or null.
    const CString* LabelOf(ULONG_PTR itemData) const;
    HIMAGELIST GetImageList() const { return m_images; }

    // Where image strips come from: the application's image-list builder, set at start-up
    // (without one, the strips of the program itself).

  private:
    struct Item {
        int image;
        CString label;
    };
    void LoadImages(UINT bitmap);
    SIZE IconSize() const;

    std::vector<Item> m_items;
    CImageList m_images;
};

class CBaseMDITitleMenu : public CMenu {
  public:
    static constexpr int kPopups = 10;
    static constexpr UINT kImages = 514;

    // Builds the menu bar from the first `count` key texts; returns its item count (0: no
    // title menu).
    int Create(const std::vector<std::string>& keys, int count);
    ~CBaseMDITitleMenu() override;

    // Popup i of the bar's items (in their order), or null.
    CBaseMDIMenu* GetPopup(int position);
    int GetCount() const { return m_hMenu ? ::GetMenuItemCount(m_hMenu) : 0; }
    // The bitmap number a group gives for its item's checked state.
    int GetCheckedBitmap(int position) const;

  private:
    void Release();

    CBaseMDIMenu m_popups[kPopups];
    int m_groups[kPopups] = {};
    int m_bitmaps[kPopups] = {};
    // The slot shown at each position of the bar.
    std::vector<int> m_shown;
};
