#include "app/open_problem_report.h"

#include <libusb.h>

#include <sys/stat.h>

#define ZALVO_VENDOR_ID "16c0"
#define ZALVO_PRODUCT_ID "2b5e"

const char* const zalvoUdevRule =
    "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"" ZALVO_VENDOR_ID
    "\", ATTRS{idProduct}==\"" ZALVO_PRODUCT_ID "\", TAG+=\"uaccess\"";

namespace {

const char* const udevRuleDirectories[] = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                           "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                           "/lib/udev/rules.d"};

const std::string prefix = "zalvo: ";

std::string missingRuleAdvice() {
    return prefix +
           "no permission to open the instrument: the udev rule 60-zalvo.rules, which gives the "
           "user at the local desktop access to it, is missing. Install it as root, then plug "
           "the instrument in again:\n" +
           prefix + "  echo '" + zalvoUdevRule + "' > /etc/udev/rules.d/60-zalvo.rules\n" + prefix +
           "  udevadm control --reload-rules && udevadm trigger --subsystem-match=usb "
           "--attr-match=idVendor=" ZALVO_VENDOR_ID " --attr-match=idProduct=" ZALVO_PRODUCT_ID
           " --action=add\n";
}

std::string installedRuleAdvice() {
    return prefix +
           "no permission to open the instrument, although the udev rule 60-zalvo.rules is "
           "installed: plug the instrument in again so that the rule is applied, and start the "
           "program in the desktop session at the machine (the rule does not serve remote "
           "logins).\n";
}

}  // namespace

bool zalvoUdevRuleInstalled() {
    for (const char* directory : udevRuleDirectories) {
        struct stat status {};
        const std::string path = std::string(directory) + "/60-zalvo.rules";
        if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            return true;
        }
    }
    return false;
}

std::string openProblemReport(const OpenProblem& problem, bool udevRuleInstalled) {
    const std::string description = describeOpenProblem(problem);
    if (description.empty()) {
        return {};
    }
    std::string report = prefix + description + "\n";
    if (problem.errorCode == LIBUSB_ERROR_ACCESS) {
        report += udevRuleInstalled ? installedRuleAdvice() : missingRuleAdvice();
    }
    return report;
}
