#include "app/about_box.h"

namespace veld {

std::string AboutRevisionText() {
  return "Revision:\tRevision Change Description:\r\n\r\n"
         "3.04\t\tFix for deleting profiles on VELD.\r\n"
         "\r\n\r\n\r\n"
         "Previous revisions:\r\n"
         "\r\n"
         "3.03\t\tChanged labels on in all pop up messages from PocketPC to VELD\r\n"
         "\t\t\tPocketPC directories no longer valid, could cause data corruption if used on same machine with 417 "
         "data.\r\n"
         "\t\t\tChanged labels on screen from PocketPC to VELD\r\n"
         "\t\t\tIf no test profile is selected when new button is pressed, produces error msg.  Now defaults to "
         "3pointtest values.\r\n"
         "\t\t\tNo EXTERNAL option in the excitation field in UUT setup page.\r\n"
         "\r\n"
         "3.01\t\tFix for:\r\n"
         "\t\t\tEngineering units conversion issue\r\n"
         "\t\t\tCal. cert. print issues\r\n"
         "\t\t\tString save/recall issue.\r\n"
         "\r\n"
         "3.00\t\tUpdate for new Veldane.\r\n\r\n";
}

}  // namespace veld
