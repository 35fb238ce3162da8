-- The settings row: the first format (DL) and the zero offset chosen, a
-- blank envelope, no logo, big postal code and comment off.
INSERT INTO config ("OtKogo", "OtKuda", "OtIndex", "Komu", "Kuda", "Index",
  "TypKonv", "PrintLogo", "Comment", "N_Konvert", "Printer", "Logo_ext", "PrintZIPcode",
  "ReservName1", "ReservName2", "ReservName3", "ReservName4", "ReservName5", "ReservName6",
  "ReservShow", "KonvertComment", "PrintKonvertComment")
VALUES ('', '', '', '', '', '', 2, 0, '', 1, 1, '', 0,
  'Резерв 1', 'Резерв 2', 'Резерв 3', 'Резерв 4', 'Резерв 5', 'Резерв 6',
  0, 'ЗАКАЗНОЕ', 0);
