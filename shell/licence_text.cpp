#include "shell/licence_text.h"

namespace trwk {

const std::string& licenceText() {
  static const std::string text =
      "TARNWICK - LICENSE AGREEMENT AND DISCLAIMER\r\n"
      "\r\n"
      "Please read this agreement before you use Tarnwick. By pressing \"I Agree\" you accept "
      "its terms. If you do not accept them, press \"I Disagree\" and the program will end.\r\n"
      "\r\n"
      "1. Terms of use. You may install Tarnwick on computers that you own or are allowed to "
      "administer, and use it to remove files, folders and registry entries on those "
      "computers. You may copy the program and its documentation as long as every copy is "
      "complete and unchanged and carries this agreement. You may not sell the program, "
      "rent it out, or pass it on as part of another product without the author's written "
      "permission. The documentation may be printed for your own use.\r\n"
      "\r\n"
      "2. What the program does. Tarnwick deletes the items you select: browser caches, "
      "cookies, history lists, temporary files, the contents of the recycle bin, your own "
      "sets of files and folders, and whatever the installed plugins name. Removal is "
      "immediate and permanent. Files removed by Tarnwick do not go to the recycle bin and "
      "cannot be brought back by the program. It is your responsibility to check what is "
      "selected before you start a cleaning, to close your browsers first, and to keep "
      "backups of everything you value.\r\n"
      "\r\n"
      "3. Plugins and user-defined sets. Plugins and user-defined sets are recipes written by "
      "you or by others. Tarnwick carries them out as written. Install only plugins you "
      "trust and understand.\r\n"
      "\r\n"
      "4. Disclaimer of warranty. Tarnwick and its documentation are provided \"as is\", "
      "without warranty of any kind, express or implied, including but not limited to the "
      "implied warranties of merchantability, fitness for a particular purpose and "
      "non-infringement. The author does not warrant that the program will meet your needs, "
      "that it will run without interruption or error, or that every trace of your activity "
      "will be removed. The whole risk as to the quality and performance of the program is "
      "with you.\r\n"
      "\r\n"
      "5. Limitation of liability. In no event shall the author or any distributor be liable "
      "for any damages whatsoever, including without limitation lost data, lost profits, "
      "interruption of business or any other direct, indirect, incidental, special or "
      "consequential damages, arising out of the use of or the inability to use Tarnwick, "
      "even if advised of the possibility of such damages.\r\n"
      "\r\n"
      "6. General. This agreement is the whole agreement between you and the author about "
      "Tarnwick. If any part of it is held unenforceable, the rest stays in force.\r\n";
  return text;
}

}  // namespace trwk
