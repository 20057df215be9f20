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

// Model identifiers the utility never shows.
extern QVector<quint64> kExcludedDevices;
// Video connection flag (1 SDI ... 32 S Video) to its row, in flag order.
extern QMap<uint32_t, VideoConnectionInfo> kVideoConnections;
// Audio connection flag (1 Embedded ... 32 Microphone) to its row, in flag order.
extern QMap<uint32_t, AudioConnectionInfo> kAudioConnections;
// HDMI 3D packing formats in menu order.
extern QVector<Video3DPackingFormat> kVideo3DPackingFormats;

// Fills the card family's static tables. Called once by main before any
// window exists (the audio captions are translated here, so the translators
// must already be installed); calling it again refills the same values.
void initialiseStaticData();
