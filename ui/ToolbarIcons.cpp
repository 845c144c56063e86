#include "ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace ui {
namespace {

const QColor kReceive(0x1b, 0x7f, 0x3b);
const QColor kTransmit(0x1f, 0x5f, 0xb0);
const QColor kStop(0xb0, 0x22, 0x22);
const QColor kData(0x6a, 0x4c, 0x93);
const QColor kSettings(0x5a, 0x5a, 0x5a);

QIcon badge(const QString& glyph, const QColor& colour) {
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(3, 3, 42, 42), 9, 9);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(glyph.size() > 1 ? 19 : 26);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

} // namespace

QIcon commandIcon(CommandId id, const QStyle* style) {
    switch (id) {
    case CommandId::FileExit1: return style->standardIcon(QStyle::SP_DialogCloseButton);
    case CommandId::ActionDeviceChoice: return style->standardIcon(QStyle::SP_ComputerIcon);
    case CommandId::DeviceInitialization: return style->standardIcon(QStyle::SP_MediaPlay);
    case CommandId::DeviceReset: return style->standardIcon(QStyle::SP_MediaStop);
    case CommandId::SIaddressPusk: return badge(QStringLiteral("А"), kReceive);
    case CommandId::SIfilePusk: return badge(QStringLiteral("Ф"), kReceive);
    case CommandId::SIstopChannel: return badge(QStringLiteral("■"), kStop);
    case CommandId::SOsinglePusk: return badge(QStringLiteral("1"), kTransmit);
    case CommandId::SOciclePusk: return badge(QStringLiteral("∞"), kTransmit);
    case CommandId::SOstopChannel: return badge(QStringLiteral("■"), kStop);
    case CommandId::SOdataClear: return badge(QStringLiteral("0"), kData);
    case CommandId::SOdataTest: return badge(QStringLiteral("T"), kData);
    case CommandId::FileOpen1: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case CommandId::FileSaveAs1: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case CommandId::FormatList: return badge(QStringLiteral(".5"), kSettings);
    case CommandId::ParamFormat: return badge(QStringLiteral("АП"), kSettings);
    case CommandId::TimerPeriod: return badge(QStringLiteral("мс"), kSettings);
    case CommandId::HelpContents1: return style->standardIcon(QStyle::SP_DialogHelpButton);
    }
    return {};
}

} // namespace ui
