-- One print offset without any shift; users add one per printer.
INSERT INTO Printers ("PrinterName", "Dx", "Dy") VALUES ('Без смещения', 0, 0);
