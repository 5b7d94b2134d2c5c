"""What one run of the Wine bench's driver printed, parsed into the figures a scenario
checks."""


class RunResult:
    """What one run of the driver printed, parsed."""

    def __init__(self, output, log, clip, stderr=""):
        self.output = output
        self.stderr = stderr
        self.lines = output.splitlines()
        self.log = log
        self.clip = clip
        self.rows = []
        self.icons = []
        self.msgboxes = []
        self.window_lists = []  # one list per "windows" action
        self.client = None  # the "layout" action: client size, controls, list columns
        self.controls = []
        self.columns = None
        self.banner = None  # the "layout" action: the banner's client size
        self.shown = None
        self.prompts = []  # windows shown before the main one, each cancelled by the driver
        self.exit_code = None
        self.second = None
        # the "log" action, one per run of the program from a command line:
        # (exit code, its main-class windows, its visible windows, milliseconds it ran)
        self.log_runs = []
        self.priority = None
        self.recorded_mhz = None
        self.errors = []
        for line in self.lines:
            tag, _, rest = line.partition(" ")
            if tag == "row":
                _index, icon, text = rest.split(" ", 2)
                label, _, details = text.partition("\t")
                self.rows.append((label, details, int(icon)))
            elif tag == "msgbox":
                caption, _, text = rest.partition("\t")
                self.msgboxes.append((caption, text))
            elif tag == "windows":
                self.window_lists.append([])
            elif tag == "window" and self.window_lists:
                cls, _, caption = rest.partition("\t")
                self.window_lists[-1].append((cls, caption))
            elif tag == "client":
                self.client = [int(v) for v in rest.split()]
            elif tag == "control":
                ident, cls, *box = rest.split()
                self.controls.append((int(ident), cls, tuple(int(v) for v in box)))
            elif tag == "banner":
                self.banner = [int(v) for v in rest.split()]
            elif tag == "columns":
                self.columns = [int(v) for v in rest.split()]
            elif tag == "prompt":
                cls, _, caption = rest.partition("\t")
                self.prompts.append((cls, caption))
            elif tag == "shown":
                self.shown = [int(v) for v in rest.split()]
            elif tag == "exit":
                self.exit_code = int(rest)
            elif tag == "second":
                self.second = [int(v) for v in rest.split()]
            elif tag == "logrun":
                self.log_runs.append(tuple(int(v) for v in rest.split()))
            elif tag == "priority":
                self.priority = [int(v) for v in rest.split()]
            elif tag == "mhz":
                self.recorded_mhz = None if rest == "none" else int(rest)
            elif tag == "error":
                self.errors.append(rest)

    def labels(self):
        return [row[0] for row in self.rows]
