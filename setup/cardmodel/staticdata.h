#pragma once

#include <cstdint>

#include <QMap>
#include <QString>
#include <QVector>

// One row of the video connection table: the caption shown with the
// connection's image buttons and its two pictures (resource paths).
struct VideoConnectionInfo {
    QString caption;
    QString image;
    QString smallImage;
};

// One row of the audio connection table.
struct AudioConnectionInfo {
    QString caption;
    QString image;
};

// One HDMI 3D packing format: the card's value, its label and icon.
struct Video3DPackingFormat {
    uint32_t value;
    QString label;
    QString icon;
};

// One conversion mode: the caption of its button and its picture (empty
// for a mode shown without one).
struct ConversionModeInfo {
    QString label;
    QString image;
};

// A named set of conversion modes, offered together in the group menu.
struct ConversionModeGroup {
    QString name;
    QVector<uint32_t> modes;
};

// Model identifiers the utility never shows.
extern QVector<quint64> kExcludedDevices;
// Video connection flag (1 SDI ... 32 S Video) to its row, in flag order.
extern QMap<uint32_t, VideoConnectionInfo> kVideoConnections;
// Audio connection flag (1 Embedded ... 32 Microphone) to its row, in flag order.
extern QMap<uint32_t, AudioConnectionInfo> kAudioConnections;
// HDMI 3D packing formats in menu order.
extern QVector<Video3DPackingFormat> kVideo3DPackingFormats;

// Input conversion modes (four-character codes) to their rows, the modes of
// each input group, and the input groups in menu order.
extern QMap<uint32_t, ConversionModeInfo> kVideoInputConversionModes;
extern QVector<uint32_t> kVideoInputConversionModesDownScale1080;
extern QVector<uint32_t> kVideoInputConversionModesDownScale720;
extern QVector<uint32_t> kVideoInputConversionModesUpScale;
extern QVector<ConversionModeGroup> kVideoInputConversionModeGroups;

// The same for output conversions. Two groups share the name
// "HD 720 to HD 1080"; a mode found in both selects the first.
extern QMap<uint32_t, ConversionModeInfo> kVideoOutputConversionModes;
extern QVector<uint32_t> kVideoOutputConversionModesDownScale;
extern QVector<uint32_t> kVideoOutputConversionModesUpScale_720;
extern QVector<uint32_t> kVideoOutputConversionUpScale_1080;
extern QVector<uint32_t> kVideoOutputConversionModesCross;
extern QVector<uint32_t> kVideoOutputConversionModesCross_720;
extern QVector<uint32_t> kVideoOutputConversionModes2KDownScale;
extern QVector<uint32_t> kVideoOutputConversionModesUHDToHD;
extern QVector<ConversionModeGroup> kVideoOutputConversionModeGroups;

// Fills the card family's static tables. Called once by main before any
// window exists (the audio and conversion captions are translated here, so the translators
// must already be installed); calling it again refills the same values.
void initialiseStaticData();
