#include "state/version_info.h"

void readVersionInfo(VersionInfo& info) {
    info.productName = QStringLiteral(ZALVO_PRODUCT_NAME);
    info.companyName = QStringLiteral(ZALVO_COMPANY_NAME);
    info.fileVersion = QStringLiteral(ZALVO_FILE_VERSION);
}

QString versionCaptionOf(const VersionInfo& info) {
    return info.productName + QLatin1Char(' ') + info.companyName + QStringLiteral(" Ver. : ") +
           info.fileVersion;
}

QString mainCaption(const QString& versionCaption, int displayDepiction) {
    // Only depiction 1 is the minimum depiction's marker; a hand-edited 2 shows none.
    return displayDepiction == 1 ? versionCaption + QStringLiteral("   (min. Mode)")
                                 : versionCaption;
}
