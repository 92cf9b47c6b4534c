#!/usr/bin/env python3
# Guards against an include check that lets a wrong-way include or a file outside the rooms pass.
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check-includes")

# A small tree whose every include is allowed.
CLEAN = {
    "model/Page.h": '#include <vector>\n',
    "import/Reader.cpp": '#include "model/Page.h"\n#include "Reader.h"\n',
    "import/Reader.h": '',
    "link/output/Bands.cpp": '#include "model/Page.h"\n',
    "widgets/Menu.cpp": '#include <QWidget>\n#include "model/Page.h"\n',
    "app/main/main.cpp": '#include "app/shell/App.h"\n',
    "app/shell/App.h": '#include "app/frame/Frame.h"\n',
    "app/frame/Frame.h": '#include "app/joblist/List.h"\n#include "app/preview/View.h"\n',
    "app/joblist/List.h": '#include "app/dialogs/Dlg.h"\n#include "Cells.h"\n',
    "app/joblist/Cells.h": '',
    "app/preview/View.h": '#include "app/commands/Cmd.h"\n',
    "app/dialogs/Dlg.h": '#include "jobs/Doc.h"\n',
    "app/commands/Cmd.h": '#include "app/text/Texts.h"\n',
    "jobs/Doc.h": '#include "import/Reader.h"\n#include "link/Link.h"\n',
    "app/text/Texts.h": '#include <QString>\n',
    "link/Link.h": '',
    "tools/machine-sim/Sim.cpp": '#include "link/LinkState.h"\n#include "link/output/Bands.h"\n',
}

# (file, text, what the message must name)
BAD = [
    ("model/Bad.cpp", '#include <vector>\n#include "import/Reader.h"\n', "model/Bad.cpp:2: model/ must not include import/"),
    ("model/Qt.h", '#include <QString>\n', "model/Qt.h:1: model/ includes the Qt header <QString>"),
    ("model/QtCore.h", '#include <QtCore/QList>\n', "model/QtCore.h:1: model/ includes the Qt header"),
    ("import/Ui.cpp", '#include "widgets/Menu.h"\n', "import/Ui.cpp:1: import/ must not include widgets/"),
    ("link/output/App.cpp", '\n#include "app/text/Texts.h"\n', "link/output/App.cpp:2: link/ must not include app/"),
    ("link/Up.cpp", '#include "jobs/Doc.h"\n', "link/Up.cpp:1: link/ must not include jobs/"),
    ("import/Up.cpp", '#include "jobs/Doc.h"\n', "import/Up.cpp:1: import/ must not include jobs/"),
    ("model/Up.cpp", '#include "jobs/Doc.h"\n', "model/Up.cpp:1: model/ must not include jobs/"),
    ("jobs/Ui.cpp", '#include "app/frame/Frame.h"\n', "jobs/Ui.cpp:1: jobs/ must not include app/"),
    ("jobs/Menu.cpp", '#include "widgets/Menu.h"\n', "jobs/Menu.cpp:1: jobs/ must not include widgets/"),
    ("jobs/Qt.h", '#include <QTimer>\n', "jobs/Qt.h:1: jobs/ includes the Qt header <QTimer>"),
    ("link/Qt.h", '#include <QtNetwork/QTcpSocket>\n', "link/Qt.h:1: link/ includes the Qt header"),
    ("widgets/Jobs.cpp", '#include "jobs/Doc.h"\n', "widgets/Jobs.cpp:1: widgets/ must not include jobs/"),
    ("widgets/Back.cpp", '#  include "app/text/Texts.h"\n', "widgets/Back.cpp:1: widgets/ must not include app/"),
    ("tools/Tool.cpp", '#include "app/text/Texts.h"\n', "tools/Tool.cpp:1: tools/ must not include app/"),
    ("tools/machine-sim/Frames.cpp", '#include "link/LinkCommand.h"\n',
     "tools/machine-sim/Frames.cpp:1: the simulated machine must not take the program's link/LinkCommand.h"),
    ("app/joblist/Peek.cpp", '#include "app/preview/View.h"\n', "app/joblist/Peek.cpp:1: room app/joblist/ must not include app/preview/"),
    ("app/text/Up.cpp", '#include "app/frame/Frame.h"\n', "app/text/Up.cpp:1: room app/text/ must not include app/frame/"),
    ("app/controlbar/Dlg.cpp", '#include "app/dialogs/Dlg.h"\n', "room app/controlbar/ must not include app/dialogs/"),
    ("app/preview/Rel.cpp", '#include "../frame/Frame.h"\n', "app/preview/Rel.cpp:1: room app/preview/ must not include app/frame/"),
    ("app/jobs/Doc.h", '', "app/jobs/ is not a room"),
    ("app/Loose.cpp", '', "app/Loose.cpp:1: a file of app/ lies outside every room"),
    ("app/misc/Odd.h", '', "app/misc/ is not a room"),
]


def write_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)


def run(root):
    p = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
    return p.returncode, p.stderr


def main():
    failures = []
    with tempfile.TemporaryDirectory() as root:
        write_tree(root, CLEAN)
        rc, err = run(root)
        if rc != 0:
            failures.append(f"clean tree refused:\n{err}")
        for path, text, expected in BAD:
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
            rc, err = run(root)
            os.remove(os.path.join(root, path))
            if rc == 0 or expected not in err:
                failures.append(f"{path}: expected a failure naming '{expected}', got rc={rc}:\n{err}")
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
