// The usage lines of the controller verbs, which morvane-img prints whether it runs those
// verbs itself or leaves them to morvane-img-device.
#include "VerbDevices.h"
#include "VerbRead.h"
#include "WriteVerbs.h"

namespace morvane {

std::string ReadUsageText() {
    return "       morvane-img read [--virtual IMAGE] [--drive A|B]\n"
           "            [--mode full|raw|scan|scan-sectors|fast] [--tracks N] [--reread N]\n"
           "            [--resume PREVIOUS] [--passes N] [--seed S]\n"
           "            [--fault crc:T:R[:READS] | idcrc:T:R | missing:T:R | weak:T:R:P |\n"
           "                     unstable:T:FIRST:COUNT | vanish-after:N]... [--realtime]\n"
           "            [--verbose] OUT\n"
           "read: reads the disk in the controller's drive into OUT (udi, trd, udf, td0, fdi,\n"
           "scl, $T), even when the run stops early. --resume reads again only the tracks of\n"
           "PREVIOUS with bad or missing sectors and merges what it reads into them; --passes\n"
           "repeats that until a pass recovers nothing. Exit 0 done, 3 done with failed\n"
           "sectors, 1 stopped.\n";
}

std::string WriteUsageText() {
    return "       morvane-img write IMAGE [--drive A|B] [--no-verify] [--virtual-out OUT]\n"
           "            [--fault crc:T:R[:READS] | missing:T:R]... [--verbose]\n"
           "       morvane-img format trdos|cpm [--name NAME] [--drive A|B]\n"
           "            [--virtual-out OUT] [--verbose]\n"
           "write: formats every track of IMAGE after its layout on the disk in the drive,\n"
           "writes its sectors and reads them back. format: an empty TR-DOS (16 x 256) or\n"
           "CP/M (5 x 1024) disk of 160 tracks. --virtual-out uses the emulated controller\n"
           "with a blank disk (--fault on it) and saves what it holds into OUT. Exit 0\n"
           "written and verified, 3 sectors failed, 1 stopped.\n";
}

std::string DevicesUsageText() {
    return "       morvane-img devices\n"
           "devices: lists the FTDI devices the USB port sees (index, serial number,\n"
           "description, whether it is the controller). Exit 0 listed, 1 none can be opened.\n";
}

}  // namespace morvane
